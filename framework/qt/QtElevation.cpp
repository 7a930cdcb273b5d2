#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <string>
#include <utility>
#include <vector>

#include "framework/qt/QtDialogWindow.h"

namespace tavirap {

namespace {

// pkexec's words when it could not ask anyone: every failure but a refusal
// ends with its exit code 127 too.
constexpr const char* kPkexecRefused = "Not authorized";

// Where Debian and Ubuntu install pkexec: no environment chooses another.
const QString kPkexec = QStringLiteral("/usr/bin/pkexec");

// pkexec, with the input on the program's standard input; the password is
// asked by the desktop's own authentication agent.
class PkexecElevation : public Elevation {
public:
    PkexecElevation(std::string program, std::vector<std::string> leading)
        : program_(std::move(program)), leading_(std::move(leading)) {}

    bool CanAsk() const override { return QFileInfo(kPkexec).isExecutable(); }

    ElevatedRun Run(const std::vector<std::string>& args, const std::string& input) override {
        const QString pkexec = kPkexec;
        QStringList arguments{FromAnsi(program_)};
        std::vector<std::string> all = leading_;
        all.insert(all.end(), args.begin(), args.end());
        for (const std::string& arg : all) {
            arguments << FromAnsi(arg);
        }
        QProcess process;
        QEventLoop wait;
        QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
        process.start(pkexec, arguments);
        if (!process.waitForStarted(-1)) {
            return {
                ElevatedRun::Outcome::kUnavailable, 0,
                ToAnsi(pkexec + QStringLiteral(" could not be started: ") + process.errorString())};
        }
        process.write(input.data(), static_cast<qint64>(input.size()));
        process.closeWriteChannel();
        // The windows keep painting while the password is asked for; the
        // user's input waits until the run has ended.
        if (process.state() != QProcess::NotRunning) {
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        }
        const std::string errors = process.readAllStandardError().trimmed().toStdString();
        if (process.exitStatus() != QProcess::NormalExit) {
            return {ElevatedRun::Outcome::kUnavailable, 0,
                    ToAnsi(pkexec + QStringLiteral(" ended abnormally: ") + process.errorString())};
        }
        // pkexec's own exit codes: 126 dismissed; 127 refused, or nobody
        // could be asked (no agent, no polkit), which its words tell apart.
        switch (process.exitCode()) {
            case 126:
                return {ElevatedRun::Outcome::kDismissed, 126, errors};
            case 127:
                return {errors.find(kPkexecRefused) != std::string::npos
                            ? ElevatedRun::Outcome::kNotAuthorised
                            : ElevatedRun::Outcome::kUnavailable,
                        127, errors};
            default:
                return {ElevatedRun::Outcome::kExited, process.exitCode(), errors};
        }
    }

private:
    std::string program_;
    std::vector<std::string> leading_;
};

}  // namespace

std::unique_ptr<Elevation> MakeElevation(std::string program, std::vector<std::string> leading) {
    return std::make_unique<PkexecElevation>(std::move(program), std::move(leading));
}

}  // namespace tavirap
