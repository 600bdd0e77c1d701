#include "music/mmcontrol.h"

namespace kalvex {

MMControl::MMControl() = default;
MMControl::~MMControl() = default;

// Stand-in until the synthesiser is wired: it keeps the file name and
// accepts the commands without playing anything.
void MMControl::SetProperty(int id, const QString& value) {
    if (id == kFileName) {
        fileName_ = value;
    }
}

}  // namespace kalvex
