#pragma once

// The help texts of lexivo-cli: the usage of the whole program and of each command.

#include <QString>
#include <QStringView>

namespace lexivo::cli {

// The usage of the whole program, and of the command of a name (the whole program's for a name no command has).
QString ProgramUsage();
QString CommandUsage(QStringView commandName);

}  // namespace lexivo::cli
