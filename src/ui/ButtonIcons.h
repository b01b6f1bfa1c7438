#pragma once

namespace Ui {
class TMainForm;
}

namespace pelicast {

// Gives the buttons with a picture their icons: the desktop's icon theme where it has one,
// else the style's built-in picture. The two "Open" buttons share a picture, and so do the
// "Clear" of the message and the "Clear" of the list; every other button has its own.
void applyButtonIcons(Ui::TMainForm &ui);

} // namespace pelicast
