#include "app/program_starter.h"

#include <QProcess>
#include <QString>

namespace {

bool StartDetached(const std::filesystem::path& program) {
    return QProcess::startDetached(QString::fromStdString(program.string()), {});
}

ProgramStarter& CurrentStarter() {
    static ProgramStarter starter = StartDetached;
    return starter;
}

}  // namespace

bool StartProgram(const std::filesystem::path& program) {
    return CurrentStarter()(program);
}

ProgramStarter ReplaceProgramStarter(ProgramStarter starter) {
    ProgramStarter previous = std::move(CurrentStarter());
    CurrentStarter() = starter ? std::move(starter) : StartDetached;
    return previous;
}
