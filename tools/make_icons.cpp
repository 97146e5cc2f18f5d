// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the window icon into a folder as the files the installers take: zanfiro-<size>.png for each
// drawn size, and zanfiro.ico holding all of them for Windows.
//   make_icons <folder>
#include "app/qt/artwork.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>

namespace {

QByteArray pngBytes(const QPixmap& pixmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    pixmap.toImage().save(&buffer, "PNG");
    return bytes;
}

// An .ico is a directory of images; each entry here holds a PNG, which Windows reads from Vista on.
QByteArray icoBytes(const QList<QByteArray>& pngs, const QList<int>& sizes)
{
    constexpr int headerBytes = 6;
    constexpr int entryBytes = 16;
    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(pngs.size());
    quint32 offset = headerBytes + entryBytes * pngs.size();
    for (qsizetype i = 0; i < pngs.size(); ++i) {
        // A side of 256 is stored as 0: the field is one byte.
        const quint8 side = quint8(sizes[i] % 256);
        out << side << side << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(pngs[i].size()) << offset;
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        out.writeRawData(png.constData(), int(png.size()));
    return ico;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    QTextStream(stderr) << "make_icons: cannot write " << path << ": " << file.errorString() << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs no screen: the tool runs in builds without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_icons <folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) {
        QTextStream(stderr) << "make_icons: cannot make " << folder.path() << '\n';
        return 1;
    }
    const QIcon icon = zanfiro::artwork::windowIcon();
    QList<int> sizes;
    for (const QSize& size : icon.availableSizes())
        sizes << size.width();
    std::sort(sizes.begin(), sizes.end());
    QList<QByteArray> pngs;
    for (const int size : sizes) {
        pngs << pngBytes(icon.pixmap(QSize(size, size)));
        if (!writeFile(folder.filePath(QString("zanfiro-%1.png").arg(size)), pngs.last()))
            return 1;
    }
    return writeFile(folder.filePath("zanfiro.ico"), icoBytes(pngs, sizes)) ? 0 : 1;
}
