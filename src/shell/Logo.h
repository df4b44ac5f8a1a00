#pragma once

#include <QPixmap>

// The product's picture, drawn rather than shipped as a file.
QPixmap kavrelLogo(int size);
