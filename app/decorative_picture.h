// The decorative picture of the first tab and the About window: a stylised hard disk whose
// platter gives back database pages. Drawn at run time, so no image file ships with the program.
#pragma once

#include <QPixmap>
#include <QSize>

namespace vorthal {

QPixmap DrawRecoveryPicture(QSize size);

} // namespace vorthal
