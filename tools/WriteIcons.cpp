// Writes the program's icon into a hicolor icon tree at build time, from the same
// drawing as the window icon: PNGs at the theme's fixed sizes and a scalable SVG.
//   WriteIcons <icons folder> <icon name>
// creates <icons folder>/hicolor/NxN/apps/<icon name>.png and
// <icons folder>/hicolor/scalable/apps/<icon name>.svg.
#include <QDir>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

#include "about/ProgramIcon.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
constexpr int kSvgSize = 64;  // the drawing's own unit square

// Reports the file and gives the exit status 1.
int fail(const QString& file) {
  std::fprintf(stderr, "WriteIcons: cannot write %s\n", qPrintable(file));
  return 1;
}

QString iconFolder(const QString& root, const QString& size) {
  const QString folder = root + "/hicolor/" + size + "/apps";
  QDir().mkpath(folder);
  return folder;
}

int writeSvg(const QString& root, const QString& name) {
  const QString file = iconFolder(root, "scalable") + "/" + name + ".svg";
  QSvgGenerator svg;
  svg.setFileName(file);
  svg.setSize(QSize(kSvgSize, kSvgSize));
  svg.setViewBox(QRect(0, 0, kSvgSize, kSvgSize));
  svg.setTitle(name);
  QPainter painter;
  if (!painter.begin(&svg)) return fail(file);
  about::paintProgramIcon(painter, kSvgSize);
  return painter.end() ? 0 : fail(file);
}

}  // namespace

// Exit status 0 when every file was written.
int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: WriteIcons <icons folder> <icon name>\n");
    return 2;
  }
  const QString root = QString::fromLocal8Bit(argv[1]), name = QString::fromLocal8Bit(argv[2]);
  for (int size : kSizes) {
    const QString file = iconFolder(root, QString("%1x%1").arg(size)) + "/" + name + ".png";
    if (!about::programIconImage(size).save(file, "PNG")) return fail(file);
  }
  return writeSvg(root, name);
}
