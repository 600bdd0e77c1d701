#pragma once

#include <QString>
#include <functional>

namespace kalvex {

// The window's hidden music player. It is driven by numbered properties:
// 22 takes a file name, 23 a command word ("open", "play", "close") that is
// carried out when assigned. Notify is raised on the window's event thread
// when playback has finished.
class MMControl {
public:
    static constexpr int kFileName = 22;
    static constexpr int kCommand = 23;

    MMControl();
    ~MMControl();
    MMControl(const MMControl&) = delete;
    MMControl& operator=(const MMControl&) = delete;

    void SetProperty(int id, const QString& value);
    const QString& fileName() const { return fileName_; }

    std::function<void(int)> Notify;

private:
    QString fileName_;
};

}  // namespace kalvex
