#pragma once
// What stands in the way of the program folder, in the window's words.

#include "app/program_folder.h"

#include <QString>

namespace orbel {

QString FolderProblemText(const FolderProblem& problem);

} // namespace orbel
