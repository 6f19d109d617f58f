#ifndef APP_FORMLOOK_H
#define APP_FORMLOOK_H

class QMainWindow;

namespace xcr {

// The main window's fixed look: its icon and title, a border that cannot be resized or
// maximised, the small sans-serif font and the button-coloured ground.
void applyFormLook(QMainWindow& window);

}  // namespace xcr

#endif  // APP_FORMLOOK_H
