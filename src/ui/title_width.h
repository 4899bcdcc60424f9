// Small dialogs are laid out for their contents, which can be narrower than their title: the
// window manager then cuts the title ("Transmission verif..."). A dialog made at least as wide
// as its title, with room for the title bar's icon and buttons, shows it whole.
#pragma once

class QWidget;

namespace qn410 {

// The width a window needs to show its current title whole.
int TitleWidth(const QWidget& window);

// Raises the window's minimum width to TitleWidth; call after setting the title.
void WidenForTitle(QWidget& window);

}  // namespace qn410
