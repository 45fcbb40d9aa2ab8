#include "icons/IconFontIconPainter.h"

IconFontIconPainter::~IconFontIconPainter() = default;
