// The two 16 x 16 row images of the fragment list: a red mark for a fragment that begins with
// the file header page of a database file, a grey page symbol for every other fragment.
#pragma once

#include <QPixmap>

namespace vorthal {

inline constexpr int kRowImageSize = 16;

QPixmap DrawHeaderPageMark();
QPixmap DrawPageSymbol();

} // namespace vorthal
