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
    ~Desktop();
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
    // A screenshot once the screen has stopped changing (two in a row alike, within a few seconds).
    QImage settledScreenshot(const char* label = nullptr) const;
    // The window manager's work area (the screen less its panels).
    QRect workArea() const;
    // Input as a user gives it, through the X server's test extension.
    void click(QPoint at) const;
    void key(const std::string& keys) const;
    void move(QPoint to) const {
        input("mousemove " + std::to_string(to.x()) + " " + std::to_string(to.y()));
    }
    void press() const;
    // Runs an X or sound-server client on this desktop; its standard output.
    std::string run(const std::vector<std::string>& argv) const;

private:
    bool startDisplay();
    bool startWindowManager();
    bool startSoundServer();
    // Input goes through one xdotool that reads its commands as they come: a press then costs no process
    // start, which would be counted against the trainer's answer.
    void input(const std::string& command) const;
    // Keeps a screenshot under its label where ORBEL_DESKTOP_SHOTS asks.
    static void keep(const QImage& image, const char* label);

    int width_;
    int height_;
    QTemporaryDir runtime_;
    std::string display_;
    ChildProcess xvfb_;
    ChildProcess windowManager_;
    ChildProcess soundServer_;
    ChildProcess xdotool_;
    int inputFd_ = -1;
    bool ready_ = false;
    std::string problem_;
};

} // namespace orbel::desktop
