#include "app/gui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// A rounded square in the program's blue with a white "K" and a green arrow
// going round it: a store that keeps in step with the service.
QPixmap desenha(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1f, 0x4e, 0x8c));
    p.drawRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s * 0.2, s * 0.2);

    QPen letra(Qt::white, s * 0.13, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(letra);
    p.drawLine(QPointF(s * 0.33, s * 0.24), QPointF(s * 0.33, s * 0.76));
    p.drawLine(QPointF(s * 0.70, s * 0.24), QPointF(s * 0.38, s * 0.50));
    p.drawLine(QPointF(s * 0.42, s * 0.47), QPointF(s * 0.72, s * 0.76));

    QPen seta(QColor(0x5c, 0xd1, 0x6b), s * 0.07, Qt::SolidLine, Qt::RoundCap);
    p.setPen(seta);
    p.setBrush(Qt::NoBrush);
    const QRectF arco(s * 0.10, s * 0.10, s * 0.80, s * 0.80);
    p.drawArc(arco, 20 * 16, 60 * 16);
    QPainterPath ponta;
    ponta.moveTo(s * 0.62, s * 0.07);
    ponta.lineTo(s * 0.74, s * 0.17);
    ponta.lineTo(s * 0.60, s * 0.21);
    ponta.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5c, 0xd1, 0x6b));
    p.drawPath(ponta);
    return pixmap;
}

QPixmap engrenagem(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QPointF centro(s / 2, s / 2);
    const QColor cor(0x4a, 0x55, 0x60);
    p.translate(centro);
    p.setPen(Qt::NoPen);
    p.setBrush(cor);
    for (int dente = 0; dente < 8; ++dente) {
        p.drawRoundedRect(QRectF(-s * 0.08, -s * 0.47, s * 0.16, s * 0.2), s * 0.03, s * 0.03);
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), s * 0.34, s * 0.34);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(0, 0), s * 0.14, s * 0.14);
    return pixmap;
}

QPixmap desliga(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), s * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(s * 0.18, s * 0.2, s * 0.64, s * 0.64), 120 * 16, 300 * 16);
    p.drawLine(QPointF(s / 2, s * 0.1), QPointF(s / 2, s * 0.48));
    return pixmap;
}

} // namespace

QIcon sairIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48})
        icon.addPixmap(desliga(size));
    return icon;
}

QIcon configIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48})
        icon.addPixmap(engrenagem(size));
    return icon;
}

QIcon korvantaIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(desenha(size));
    return icon;
}
