#include "desktop/trainer_run.h"

#include "app/settings_fields.h"
#include "app/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <thread>

namespace orbel::desktop {

namespace {

constexpr auto StartTimeout = std::chrono::seconds(20);
constexpr auto Poll = std::chrono::milliseconds(25);
// Long enough for a menu or list to open under the window manager.
constexpr auto OpenPause = std::chrono::milliseconds(250);

QString ProgramDir() {
    return QStringLiteral(ORBEL_PROGRAM_DIR);
}

// The factory files beside the built executables: every regular file that is not a program.
void CopyFactoryFiles(const QString& to) {
    for (const QFileInfo& f : QDir(ProgramDir()).entryInfoList(QDir::Files)) {
        if (f.isExecutable()) continue;
        QFile::copy(f.filePath(), to + QLatin1Char('/') + f.fileName());
    }
}

void WriteSettings(const QString& folder, const std::vector<std::string>& assignments) {
    const QString path = folder + QStringLiteral("/cfg.infdat");
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return;
    std::optional<Settings> s = DecodeSettingsRecord(in.readAll());
    in.close();
    if (!s) return;
    (void)SetSettingsField(*s, "HideDemoOffer=1"); // the tests that want the offer ask for it
    for (const std::string& a : assignments)
        (void)SetSettingsField(*s, a);
    QFile out(path);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(EncodeSettingsRecord(*s));
}

std::vector<int> Numbers(const std::string& text) {
    std::vector<int> out;
    const QStringList parts = QString::fromStdString(text).split(
        QRegularExpression(QStringLiteral("[^0-9-]+")), Qt::SkipEmptyParts);
    for (const QString& p : parts)
        out.push_back(p.toInt());
    return out;
}

} // namespace

TrainerRun::TrainerRun(Desktop& desktop, const TrainerStart& start) : desktop_(desktop) {
    if (!folder_.isValid() || !desktop.ready()) return;
    CopyFactoryFiles(folder_.path());
    if (start.noSettingsFile) {
        QFile::remove(folder_.filePath(QStringLiteral("cfg.infdat")));
    } else {
        WriteSettings(folder_.path(), start.settings);
    }
    std::vector<std::string> env = desktop.environment();
    env.push_back("ORBEL_HOME=" + folder_.path().toStdString());
    env.push_back("ORBEL_MIDI_LOG=" + folder_.filePath(QStringLiteral("midi.log")).toStdString());
    env.push_back("ORBEL_CONTROL_MAP=" + folder_.filePath(QStringLiteral("controls.txt")).toStdString());
    env.push_back("QT_QPA_PLATFORM=xcb");
    env.insert(env.end(), start.environment.begin(), start.environment.end());
    process_ = ChildProcess({(ProgramDir() + QStringLiteral("/orbel")).toStdString()},
                            {env, folder_.filePath(QStringLiteral("orbel.out")).toStdString()});
    started_ = control(QStringLiteral("frmMain/Command5"), StartTimeout).has_value();
}

TrainerRun::~TrainerRun() {
    quit();
}

std::optional<Control> TrainerRun::control(const QString& name, std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        QFile file(folder_.filePath(QStringLiteral("controls.txt")));
        if (file.open(QIODevice::ReadOnly)) {
            QTextStream in(&file);
            while (!in.atEnd()) {
                const QStringList f = in.readLine().split(QLatin1Char('\t'));
                if (f.size() < 7 || f[0] != name) continue;
                return Control{{f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()}, f[5], f[6]};
            }
        }
        std::this_thread::sleep_for(Poll);
    } while (std::chrono::steady_clock::now() < end);
    return std::nullopt;
}

QStringList TrainerRun::windows() const {
    QStringList out;
    QFile file(folder_.filePath(QStringLiteral("controls.txt")));
    if (!file.open(QIODevice::ReadOnly)) return out;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString name = in.readLine().section(QLatin1Char('\t'), 0, 0);
        if (!name.contains(QLatin1Char('/'))) out << name;
    }
    return out;
}

QStringList TrainerRun::captions(const QString& window) const {
    QStringList out;
    QFile file(folder_.filePath(QStringLiteral("controls.txt")));
    if (!file.open(QIODevice::ReadOnly)) return out;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char('\t'));
        if (f.size() >= 7 && (f[0] == window || f[0].startsWith(window + QLatin1Char('/')))) out << f[5];
    }
    return out;
}

bool TrainerRun::click(const QString& name) const {
    const std::optional<Control> c = control(name);
    if (!c) return false;
    desktop_.click(c->target());
    return true;
}

bool TrainerRun::clickWhenEnabled(const QString& name, std::chrono::milliseconds timeout) const {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        const std::optional<Control> c = control(name, Poll);
        if (c && !c->state.contains(QStringLiteral("disabled"))) {
            desktop_.click(c->target());
            return true;
        }
        std::this_thread::sleep_for(Poll);
    }
    return false;
}

bool TrainerRun::menu(const QString& menuName, const QString& entryName) const {
    if (!click(QStringLiteral("menubar/") + menuName)) return false;
    std::this_thread::sleep_for(OpenPause);
    return click(QStringLiteral("menu/") + entryName);
}

bool TrainerRun::choose(const QString& comboName, int index) const {
    if (!click(comboName)) return false;
    std::this_thread::sleep_for(OpenPause);
    desktop_.key("Home");
    for (int i = 0; i < index; ++i)
        desktop_.key("Down");
    desktop_.key("Return");
    std::this_thread::sleep_for(OpenPause);
    return true;
}

QRect TrainerRun::frame() const {
    // The largest visible window of the trainer is its main window; the frame adds the manager's extents.
    QRect best;
    const std::string ids =
        desktop_.run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(process_.pid())});
    for (const int id : Numbers(ids)) {
        // The client's place on the screen as the X server has it.
        const QString info = QString::fromStdString(desktop_.run({"xwininfo", "-id", std::to_string(id)}));
        const auto field = [&](const char* name) {
            const QRegularExpressionMatch m =
                QRegularExpression(QString::fromLatin1(name) + QStringLiteral(":\\s*(-?\\d+)")).match(info);
            return m.hasMatch() ? m.captured(1).toInt() : 0;
        };
        QRect client(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                     field("Height"));
        if (client.width() * client.height() <= best.width() * best.height()) continue;
        const std::vector<int> e =
            Numbers(desktop_.run({"xprop", "-id", std::to_string(id), "_NET_FRAME_EXTENTS"}));
        if (e.size() >= 4) client.adjust(-e[0], -e[2], e[1], e[3]);
        best = client;
    }
    return best;
}

std::vector<LoggedMessage> TrainerRun::midiLog() const {
    std::vector<LoggedMessage> out;
    QFile file(folder_.filePath(QStringLiteral("midi.log")));
    if (!file.open(QIODevice::ReadOnly)) return out;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (f.size() < 4) continue;
        out.push_back(
            {f[0].toLongLong(), f[1].toInt(nullptr, 0), f[2].toInt(nullptr, 0), f[3].toInt(nullptr, 0)});
    }
    return out;
}

void TrainerRun::quit() {
    process_.stop();
}

} // namespace orbel::desktop
