#include "ui/edit/ChangeTracking.h"

#include "app/ErrorLog.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"

QString cleanAmountText(const QString& text) {
    QString clean = text;
    clean.remove(u'$');
    clean.remove(u',');
    clean.remove(u' ');
    clean.remove(u'%');
    return app::isBlankText(clean) ? QStringLiteral("0") : clean;
}

ChangeInValue updateChangeInValue(const QString& currentValue, const QString& purchasePrice,
                                  const QString& shown) {
    app::Guard guard;
    ChangeInValue result{shown, false};
    guard.step([&] {
        const auto number = [](const QString& amount) {
            const std::optional<double> n = app::parseNumber(cleanAmountText(amount));
            if (!n) {
                app::raise(app::kTypeMismatch);
            }
            return *n;
        };
        const double current = number(currentValue);
        const double purchase = number(purchasePrice);
        // Not logged, as the runtime's division failures never are.
        if (current == 0) {
            app::raise(purchase == 0 ? app::kOverflow : app::kDivisionByZero);
        }
        result.text = app::formatGeneralNumber((current - purchase) / current);
    });
    if (const std::optional<double> n = app::parseNumber(result.text)) {
        result.loss = *n < 0;
        result.text = app::formatPercent(*n);
    }
    return result;
}
