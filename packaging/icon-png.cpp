// SPDX-License-Identifier: GPL-3.0-or-later
// Build-time helper: icon-png XPM PNG SIZE writes the program's icon, drawn
// once as XPM and compiled into the program, as the PNG that desktop menus
// show. It refuses an icon that is not SIZE x SIZE pixels, because the PNG is
// installed in the icon theme's folder of that size.

#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: icon-png XPM PNG SIZE\n");
        return 2;
    }
    const QString xpmPath = QString::fromLocal8Bit(argv[1]);
    const QString pngPath = QString::fromLocal8Bit(argv[2]);
    bool isNumber = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&isNumber);
    if (!isNumber || size <= 0) {
        std::fprintf(stderr, "icon-png: SIZE must be a positive whole number, not %s\n", argv[3]);
        return 2;
    }

    QImage icon;
    if (!icon.load(xpmPath, "XPM")) {
        std::fprintf(stderr, "icon-png: cannot read %s as XPM\n", qPrintable(xpmPath));
        return 1;
    }
    if (icon.width() != size || icon.height() != size) {
        std::fprintf(stderr, "icon-png: %s is %d x %d pixels, expected %d x %d\n",
                     qPrintable(xpmPath), icon.width(), icon.height(), size, size);
        return 1;
    }
    if (!icon.save(pngPath, "PNG")) {
        std::fprintf(stderr, "icon-png: cannot write %s\n", qPrintable(pngPath));
        return 1;
    }
    return 0;
}
