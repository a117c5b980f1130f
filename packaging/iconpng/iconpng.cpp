// Renders the program's icon drawing as a PNG of one size, for the icon
// theme folders of the package: iconpng SVG SIZE PNG.

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream err(stderr);
    bool sizeOk = false;
    const int size = args.value(2).toInt(&sizeOk);
    if (args.size() != 4 || !sizeOk || size <= 0) {
        err << "usage: iconpng SVG SIZE PNG\n";
        return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull()) {
        err << "iconpng: " << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    if (!image.save(args[3], "PNG")) {
        err << "iconpng: cannot write " << args[3] << '\n';
        return 1;
    }
    return 0;
}
