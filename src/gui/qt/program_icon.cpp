#include "gui/qt/program_icon.h"

#include <QPainter>
#include <QPixmap>

namespace merovan::gui {

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal unit = size / 16.0;
        painter.setPen(QPen(QColor(30, 60, 110), unit));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(3 * unit, 1 * unit, 10 * unit, 14 * unit));
        painter.setPen(QPen(QColor(30, 60, 110), unit * 0.8));
        for (int line = 0; line < 4; ++line) {
            const qreal y = (4 + line * 2.5) * unit;
            painter.drawLine(QPointF(5 * unit, y), QPointF(11 * unit, y));
        }
        painter.setBrush(QColor(200, 40, 40));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(11 * unit, 12.5 * unit), 2 * unit, 2 * unit);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace merovan::gui
