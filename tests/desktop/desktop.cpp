#include "desktop/desktop.h"

#include <QFile>
#include <QProcess>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace orbel::desktop {

namespace {

constexpr auto StartTimeout = std::chrono::seconds(10);
constexpr auto Poll = std::chrono::milliseconds(20);
// What one input event takes to reach the trainer: the next step waits for it as the old command did.
constexpr auto InputPause = std::chrono::milliseconds(30);
constexpr auto SettleGap = std::chrono::milliseconds(250);
// xdotool holds the button down for 100 ms unless told otherwise, and takes the next command only after
// it: clicks given in a row then reach the trainer 100 ms apart, long after the test goes on.
constexpr const char* Click = "click --delay 0 1";

template <typename Ready> bool WaitFor(Ready ready, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        std::this_thread::sleep_for(Poll);
    }
    return false;
}

} // namespace

Desktop::Desktop(int width, int height) : width_(width), height_(height) {
    if (!runtime_.isValid()) {
        problem_ = "no temporary folder";
        return;
    }
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ready_ = startDisplay() && startWindowManager() && startSoundServer();
    int fds[2];
    if (ready_ && ::pipe2(fds, O_CLOEXEC) == 0) {
        xdotool_ = ChildProcess({"sh", "-c", "exec xdotool - <&3"}, {environment(), "/dev/null", fds[0]});
        ::close(fds[0]);
        inputFd_ = fds[1];
    }
}

Desktop::~Desktop() {
    if (inputFd_ >= 0) ::close(inputFd_);
}

void Desktop::input(const std::string& command) const {
    const std::string line = command + "\n";
    if (inputFd_ < 0 || ::write(inputFd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
        (void)run({"sh", "-c", "xdotool " + command});
}

bool Desktop::startDisplay() {
    // The server picks a free display number and writes it to descriptor 3.
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return false;
    const std::string screen = std::to_string(width_) + "x" + std::to_string(height_) + "x24";
    xvfb_ = ChildProcess({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
                         {{}, "/dev/null", pipeFds[1]});
    ::close(pipeFds[1]);
    std::string number;
    pollfd p{pipeFds[0], POLLIN, 0};
    while (::poll(&p, 1, static_cast<int>(std::chrono::milliseconds(StartTimeout).count())) > 0) {
        char c = 0;
        if (::read(pipeFds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    ::close(pipeFds[0]);
    if (number.empty()) {
        problem_ = "Xvfb did not start";
        return false;
    }
    display_ = ":" + number;
    return true;
}

bool Desktop::startWindowManager() {
    windowManager_ = ChildProcess({"openbox", "--sm-disable"}, {{"DISPLAY=" + display_}});
    // The manager has taken over once it names itself on the root window.
    const bool up = WaitFor(
        [&] {
            return run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") != std::string::npos;
        },
        StartTimeout);
    if (!up) problem_ = "openbox did not start";
    return up;
}

bool Desktop::startSoundServer() {
    const std::string dir = runtime_.path().toStdString();
    soundServer_ =
        ChildProcess({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "-L",
                      "module-native-protocol-unix auth-anonymous=1 socket=" + dir + "/native", "-L",
                      "module-null-sink sink_name=rec rate=48000"},
                     {{"XDG_RUNTIME_DIR=" + dir, "HOME=" + dir}, dir + "/pulseaudio.log"});
    const bool up = WaitFor([&] { return !run({"pactl", "info"}).empty(); }, StartTimeout);
    if (!up) problem_ = "the sound server did not start";
    return up;
}

std::vector<std::string> Desktop::environment() const {
    const std::string dir = runtime_.path().toStdString();
    return {"DISPLAY=" + display_, "XDG_RUNTIME_DIR=" + dir, "PULSE_SERVER=unix:" + dir + "/native",
            "HOME=" + dir};
}

std::string Desktop::run(const std::vector<std::string>& argv) const {
    return RunCommand(argv, environment());
}

void Desktop::keep(const QImage& image, const char* label) {
    if (const QString shots = qEnvironmentVariable("ORBEL_DESKTOP_SHOTS");
        label != nullptr && !shots.isEmpty())
        image.save(shots + QLatin1Char('/') + QString::fromUtf8(label) + QStringLiteral(".png"));
}

QImage Desktop::screenshot(const char* label) const {
    const QString file = runtime_.filePath(QStringLiteral("screen.png"));
    (void)run({"import", "-window", "root", file.toStdString()});
    QImage image(file);
    QFile::remove(file);
    if (const QString shots = qEnvironmentVariable("ORBEL_DESKTOP_SHOTS");
        label != nullptr && !shots.isEmpty())
        image.save(shots + QLatin1Char('/') + QString::fromUtf8(label) + QStringLiteral(".png"));
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Desktop::settledScreenshot(const char* label) const {
    // Settled: the same picture over a stretch longer than the trainer's notifications take to arrive
    // (they come the output's delay after the sound was sent) on a machine busy with other work.
    QImage last = screenshot();
    const auto end = std::chrono::steady_clock::now() + StartTimeout;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(SettleGap);
        QImage next = screenshot();
        if (next == last) break;
        last = std::move(next);
    }
    keep(last, label);
    return last;
}

QRect Desktop::workArea() const {
    // "_NET_WORKAREA(CARDINAL) = x, y, w, h, ..." — the first desktop's.
    const std::string text = run({"xprop", "-root", "_NET_WORKAREA"});
    const auto eq = text.find('=');
    if (eq == std::string::npos) return {0, 0, width_, height_};
    const QStringList parts = QString::fromStdString(text.substr(eq + 1)).split(QLatin1Char(','));
    if (parts.size() < 4) return {0, 0, width_, height_};
    return {parts[0].trimmed().toInt(), parts[1].trimmed().toInt(), parts[2].trimmed().toInt(),
            parts[3].trimmed().toInt()};
}

void Desktop::click(QPoint at) const {
    input("mousemove " + std::to_string(at.x()) + " " + std::to_string(at.y()) + " " + Click);
    std::this_thread::sleep_for(InputPause);
}

void Desktop::press() const {
    input(Click);
}

void Desktop::key(const std::string& keys) const {
    input("key " + keys);
    std::this_thread::sleep_for(InputPause);
}

} // namespace orbel::desktop
