#pragma once
// A desktop of the tests' own: a virtual X display of a given size with a window manager, and a sound
// server whose only output is a null sink that can be recorded. Everything ends with the object.

#include "desktop/child_process.h"

#include <QImage>
#include <QRect>
#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

namespace orbel::desktop {

class Desktop {
public:
    // Starts the display, the window manager and the sound server; ready() says whether all three came up.
    Desktop(int width, int height);
    ~Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    bool ready() const { return ready_; }
    const std::string& problem() const { return problem_; }
    // DISPLAY, the sound server's address and a runtime folder: what a program on this desktop needs.
    std::vector<std::string> environment() const;
    std::string display() const { return display_; }
    QString runtimeFolder() const { return runtime_.path(); }
    QSize size() const { return {width_, height_}; }

    // What the screen shows now; also kept as label.png in the folder ORBEL_DESKTOP_SHOTS names, if any.
    QImage screenshot(const char* label = nullptr) const;
    // The window manager's work area (the screen less its panels).
    QRect workArea() const;
    // Input as a user gives it, through the X server's test extension.
    void click(QPoint at) const;
    void key(const std::string& keys) const;
    // Runs an X or sound-server client on this desktop; its standard output.
    std::string run(const std::vector<std::string>& argv) const;

private:
    bool startDisplay();
    bool startWindowManager();
    bool startSoundServer();

    int width_;
    int height_;
    QTemporaryDir runtime_;
    std::string display_;
    ChildProcess xvfb_;
    ChildProcess windowManager_;
    ChildProcess soundServer_;
    bool ready_ = false;
    std::string problem_;
};

} // namespace orbel::desktop
