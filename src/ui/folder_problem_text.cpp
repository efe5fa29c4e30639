#include "ui/folder_problem_text.h"

#include <QDir>
#include <QFileInfo>

namespace orbel {

QString FolderProblemText(const FolderProblem& problem) {
    const QString path = QDir::toNativeSeparators(problem.path);
    switch (problem.kind) {
    case FolderProblem::Kind::None:
        return {};
    case FolderProblem::Kind::IsAFile:
        return QStringLiteral("【%1】はファイルなので、そこにユーザーのフォルダを作れません。").arg(path);
    case FolderProblem::Kind::CannotCreate:
        return QStringLiteral("ユーザーのフォルダ【%1】を作れません。【%2】に書き込めるか確かめてください。")
            .arg(path, QDir::toNativeSeparators(QFileInfo(problem.path).absolutePath()));
    case FolderProblem::Kind::CannotCopy:
        return QStringLiteral("ファイル【%1】をユーザーのフォルダ【%2】にコピーできません。")
            .arg(problem.file, path);
    case FolderProblem::Kind::FactoryMissing:
        return QStringLiteral("出荷時のファイルが【%1】にありません。ＯＲＢＥＬ！を入れ直してください。")
            .arg(path);
    }
    return {};
}

} // namespace orbel
