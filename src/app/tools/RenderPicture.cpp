// Renders an SVG picture into a square PNG or ICO of a given size, for a Qt that has no SVG module
// (the Windows build's): orsa-render-picture PICTURE.svg SIZE OUT.png|OUT.ico
// Runs on the build machine with its own Qt, without a display.
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdlib>

namespace {

int fail(const QString& text) {
  QTextStream(stderr) << "orsa-render-picture: " << text << '\n';
  return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() != 4) return fail(QStringLiteral("usage: orsa-render-picture PICTURE.svg SIZE OUT.png|OUT.ico"));
  bool sizeOk = false;
  const int size = args[2].toInt(&sizeOk);
  if (!sizeOk || size < 1 || size > 1024) return fail(QStringLiteral("size «%1» is not 1 to 1024").arg(args[2]));

  QSvgRenderer picture(args[1]);
  if (!picture.isValid()) return fail(QStringLiteral("%1 is not a readable SVG picture").arg(args[1]));
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  picture.render(&painter);
  painter.end();

  QImageWriter writer(args[3]);
  if (!writer.write(image)) return fail(QStringLiteral("%1: %2").arg(args[3], writer.errorString()));
  return EXIT_SUCCESS;
}
