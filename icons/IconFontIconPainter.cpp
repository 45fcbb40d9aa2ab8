#include "IconFontIconPainter.h"

IconFontIconPainter::~IconFontIconPainter() = default;
