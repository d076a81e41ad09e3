#include "platform/qt/QtDesktop.h"

#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/qt/QtStrings.h"

namespace tamberlyn {

QPixmap drawApplicationIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = size / 16.0;
    painter.setPen(QPen(QColor(0x1E, 0x3C, 0x96), edge));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(edge / 2, edge / 2, size - edge, size - edge), 3 * edge, 3 * edge);

    QFont font(QStringLiteral("Arial"));
    font.setBold(true);
    font.setPixelSize(qRound(size * 0.8));
    QPainterPath letter;
    letter.addText(0, 0, font, QStringLiteral("Q"));
    const QRectF bounds = letter.boundingRect();
    letter.translate(QPointF(size / 2.0, size / 2.0) - bounds.center());
    painter.fillPath(letter, QColor(0x1A, 0x4F, 0xD6));
    return pixmap;
}

QtDesktop::QtDesktop(EndAction endAction) : endAction_(std::move(endAction)) {}

Picture QtDesktop::applicationIcon() {
    if (applicationIcon_ == 0) {
        QIcon icon;
        icon.addPixmap(drawApplicationIcon(16));
        icon.addPixmap(drawApplicationIcon(32));
        applicationIcon_ = icons_.size() + 1;
        icons_.emplace(applicationIcon_, icon);
    }
    return Picture{PictureType::Icon, applicationIcon_};
}

namespace {

// A cursor file's hot spot: the first entry of its directory, in the fields an icon
// file uses for planes and bit count.
QPoint hotSpotOf(const QByteArray& file) {
    if (file.size() < 22 || file[2] != 2 || file[3] != 0) return {-1, -1};
    auto word = [&](int at) {
        return static_cast<int>(static_cast<unsigned char>(file[at])) |
               (static_cast<int>(static_cast<unsigned char>(file[at + 1])) << 8);
    };
    return {word(10), word(12)};
}

}  // namespace

int QtDesktop::loadCursorFile(const std::string& path) {
    const QString name = toQString(path);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly)) {
        throw PlatformError("The cursor file " + path + " cannot be read: " + toUtf8(file.errorString()));
    }
    const QByteArray bytes = file.readAll();
    QImageReader reader(name);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw PlatformError("The file " + path + " is not a cursor: " + toUtf8(reader.errorString()));
    }
    const QPoint hotSpot = hotSpotOf(bytes);
    const int id = static_cast<int>(cursors_.size()) + 1;
    cursors_.emplace(id, QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y()));
    return id;
}

void QtDesktop::endProcess() { endAction_(); }

void QtDesktop::endAtOnce() {
    // The close sequence has already stored everything and taken the icon out of the tray.
    // Leaving exec() instead would let a nested wait of the core go on running handlers;
    // ending here does not. The X server takes our windows away with the connection.
    std::fflush(nullptr);
    std::_Exit(0);
}

QIcon QtDesktop::icon(IconHandle id) const {
    const auto found = icons_.find(id);
    return found == icons_.end() ? QIcon() : found->second;
}

std::optional<QCursor> QtDesktop::cursor(int id) const {
    const auto found = cursors_.find(id);
    if (found == cursors_.end()) return std::nullopt;
    return found->second;
}

}  // namespace tamberlyn
