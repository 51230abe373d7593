#include "ui/style.h"

#include <QFontDatabase>
#include <QStringList>

namespace tessmar::ui {
namespace {

QString cjkFallback() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString& preferred :
             {QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
              QStringLiteral("AR PL UMing CN")})
            if (families.contains(preferred)) return preferred;
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}

QFont chinese(const QString& windowsName, double points, bool bold = false) {
    QFont font;
    font.setFamilies({windowsName, cjkFallback()});
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace

QFont fontOf(const forms::Font& font) {
    return chinese(QString::fromUtf8(forms::faceName(font.face)), font.points, font.bold);
}

QFont songti(double points, bool bold) {
    return fontOf({forms::Face::Songti, points, bold});
}

QString rgb(int r, int g, int b) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(r).arg(g).arg(b);
}

}  // namespace tessmar::ui
