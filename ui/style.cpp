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

}  // namespace

QFont fontOf(const forms::Font& wanted) {
    QStringList families;
    for (std::string_view face : forms::faceFallbacks(wanted.face))
        families << QString::fromUtf8(face.data(), static_cast<qsizetype>(face.size()));
    families << cjkFallback();
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(wanted.points);
    font.setBold(wanted.bold);
    return font;
}

QFont songti(double points, bool bold) {
    return fontOf({forms::Face::Songti, points, bold});
}

QString rgb(int r, int g, int b) {
    return QStringLiteral("rgb(%1,%2,%3)").arg(r).arg(g).arg(b);
}

}  // namespace tessmar::ui
