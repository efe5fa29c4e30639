#pragma once
// Where every dialog and window of the program opens: centred across, a little above the middle.

class QWidget;

namespace orbel {

// Moves form so that left = (screen width − form width) / 2 and top = (screen height − form height) / 2.5,
// measured with the form's frame, on the screen the form is on (the primary screen when it has none).
void CenterForm(QWidget& form);

} // namespace orbel
