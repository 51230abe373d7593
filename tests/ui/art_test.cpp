// The pictures compiled in under :/art: each one present, drawn by Qt's own SVG renderer without
// complaint, at the size of the control that shows it.
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <QTest>

namespace {

QStringList warnings;

void collect(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type != QtDebugMsg && type != QtInfoMsg) warnings << text;
}

QImage render(const QString& path) {
    QSvgRenderer renderer(path);
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

}  // namespace

class ArtTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Q_INIT_RESOURCE(art); }

    void pictureFitsItsControl_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("background") << "background" << QSize(595, 405);
        QTest::newRow("panel_checklist") << "panel_checklist" << QSize(361, 275);
        QTest::newRow("panel_categories") << "panel_categories" << QSize(121, 261);
        for (int i = 0; i < 5; ++i) {
            QString name = QStringLiteral("category%1").arg(i);
            QTest::newRow(qPrintable(name)) << name << QSize(105, 36);
        }
        QTest::newRow("help") << "help" << QSize(26, 25);
        QTest::newRow("password") << "password" << QSize(26, 25);
        QTest::newRow("close") << "close" << QSize(21, 21);
        QTest::newRow("icon") << "icon" << QSize(24, 24);
        QTest::newRow("gate") << "gate" << QSize(96, 48);
        for (const char* name : {"add", "change", "delete", "make", "cancel"})
            QTest::newRow(name) << name << QSize(16, 16);
    }

    void pictureFitsItsControl() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QString path = QStringLiteral(":/art/%1.svg").arg(name);
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QByteArray svg = file.readAll();
        // Drawn, never pasted in: no raster image, nothing fetched from elsewhere.
        QVERIFY(!svg.contains("<image"));
        QVERIFY(!svg.contains("href="));
        // Qt's renderer leaves these out without a word, so the window would differ from a browser.
        for (const char* unsupported :
             {"<filter", "<clipPath", "<mask", "<pattern", "<foreignObject"})
            QVERIFY2(!svg.contains(unsupported), unsupported);

        warnings.clear();
        auto previous = qInstallMessageHandler(collect);
        QSvgRenderer renderer(path);
        qInstallMessageHandler(previous);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.defaultSize(), size);
        QCOMPARE(renderer.viewBoxF(), QRectF(QPointF(0, 0), QSizeF(size)));
        // A broken reference costs only a warning, and the window would show a gap where it points.
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }

    void categoryFacesShowTheirNames() {
        for (int i = 0; i < 5; ++i) {
            QImage face = render(QStringLiteral(":/art/category%1.svg").arg(i));
            int ink = 0;
            for (int y = 6; y < 30; ++y)
                for (int x = 34; x < 103; ++x) {
                    QColor c = face.pixelColor(x, y);
                    if (c.red() < 110 && c.green() < 110 && c.blue() < 170) ++ink;
                }
            // Four large characters leave a few hundred dark pixels; an unrendered name leaves
            // none.
            QVERIFY2(ink > 150, qPrintable(QStringLiteral("category%1: %2").arg(i).arg(ink)));
        }
    }

    void closeButtonIsAWhiteCrossOnDark() {
        QImage close = render(QStringLiteral(":/art/close.svg"));
        QColor centre = close.pixelColor(10, 10);
        QColor corner = close.pixelColor(3, 16);
        QVERIFY(centre.lightness() > 200);
        QVERIFY(corner.lightness() < 80);
        QCOMPARE(corner.alpha(), 255);
    }
};

QTEST_MAIN(ArtTest)
#include "art_test.moc"
