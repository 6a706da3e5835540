// Build-time helper: enlarges the 32 x 32 application icon for the larger
// sizes of the desktop's icon theme. Whole multiples with nearest-neighbour
// sampling keep the 16-colour picture crisp instead of blurring it.
//
//   ScaleIcon INPUT.png OUTPUT.png SIZE
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: ScaleIcon INPUT.png OUTPUT.png SIZE\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[3]);
    if (icon.isNull() || size <= 0 || size % icon.width() != 0) {
        std::fprintf(stderr, "ScaleIcon: cannot scale %s to a whole multiple %s\n", argv[1], argv[3]);
        return 1;
    }
    const QImage large = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return large.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
