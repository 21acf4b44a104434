#include "ui/main/HomePageFill.h"

#include "app/ErrorLog.h"
#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "store/Collection.h"

#include <optional>

namespace ui {
namespace {

// The only keys the page looks at; every other key is passed over.
enum class Field { Other, Description, CurrentValue, MiscNotes, CoinType, FirstPicture };

Field fieldOf(const QString& key) {
    if (const std::optional<store::Field> field = store::fieldOfKey(key)) {
        switch (*field) {
        case store::Field::Description:
            return Field::Description;
        case store::Field::CurrentValue:
            return Field::CurrentValue;
        case store::Field::MiscNotes:
            return Field::MiscNotes;
        case store::Field::CoinType:
            return Field::CoinType;
        default:
            return Field::Other;
        }
    }
    return key.compare(store::kFirstPictureKey, Qt::CaseInsensitive) == 0 ? Field::FirstPicture
                                                                          : Field::Other;
}

// Records share one copy of each key name (the reader keeps them so), so
// within one scan a key is recognised by where its text lives. The collection
// does not change during a scan, so an address cannot be reused meanwhile.
class FieldMemo {
public:
    Field of(const QString& key) {
        Seen& seen = m_seen[(reinterpret_cast<quintptr>(key.constData()) >> 4) % m_seen.size()];
        if (seen.text != key.constData() || seen.size != key.size()) {
            seen = {key.constData(), key.size(), fieldOf(key)};
        }
        return seen.field;
    }

private:
    struct Seen {
        const QChar* text = nullptr;
        qsizetype size = -1;
        Field field = Field::Other;
    };
    std::array<Seen, 64> m_seen{};
};

// The filter row's text, read once per scan.
class FilterRules {
public:
    FilterRules(const QString& filter, int filterRow) : m_coinType(filterRow - 1) {
        const QString f = filter.toLower();
        m_showAll = f == QLatin1StringView("show all coins");
        m_valueCeiling = f.contains(QLatin1StringView("current value < $"));
        m_onlyType = f.contains(QLatin1StringView("only "));
        m_withImages = f.contains(QLatin1StringView("with images"));
        m_withoutImages = f.contains(QLatin1StringView("without images"));
        if (m_valueCeiling) {
            try {
                m_ceiling = app::cLng(filter.mid(filter.indexOf(u'$') + 1));
            } catch (const app::RuntimeError& e) {
                m_ceilingError = e.number();
            }
        }
    }

    bool excludes(Field field, const QString& v, app::Guard& guard) const {
        if (m_showAll) {
            return false;
        }
        if (m_valueCeiling && field == Field::CurrentValue) {
            // A value or ceiling that is not a number fails the step and excludes.
            bool over = true;
            guard.step([&] {
                const qint32 value = app::cLng(v);
                if (!m_ceiling) {
                    app::raise(m_ceilingError);
                }
                over = value > *m_ceiling;
            });
            return over;
        }
        if (m_onlyType && field == Field::CoinType) {
            bool differs = true;
            guard.step([&] { differs = app::cLng(v) != m_coinType; });
            return differs;
        }
        if (m_withImages && field == Field::FirstPicture) {
            return app::isBlankText(v);
        }
        if (m_withoutImages && field == Field::FirstPicture) {
            return !app::isBlankText(v);
        }
        return false;
    }

private:
    bool m_showAll = false;
    bool m_valueCeiling = false;
    bool m_onlyType = false;
    bool m_withImages = false;
    bool m_withoutImages = false;
    std::optional<qint32> m_ceiling;
    int m_ceilingError = 0;
    qint32 m_coinType;
};

} // namespace

HomePageContent loadPropertiesOnMainPage(const store::Collection& collection, qsizetype first,
                                         int filterRow,
                                         const std::array<CardContent, kHomeCards>& shown,
                                         int noImageError) {
    app::Guard guard;
    first = std::max<qsizetype>(first, 1);
    const QStringList& rows = homeFilterList();
    const FilterRules rules(filterRow >= 0 && filterRow < rows.size() ? rows[filterRow] : QString(),
                            filterRow);
    HomePageContent page;
    page.cards = shown;
    // Every card starts hidden; only the ones the scan fills show again.
    for (CardContent& content : page.cards) {
        content.visible = false;
    }
    // The current value is formatted for the cards that keep it, at the end.
    std::array<bool, kHomeCards> line2IsValue{};

    FieldMemo fields;
    int card = 0;
    for (qsizetype item = first; card < kHomeCards && item <= collection.count(); ++item) {
        CardContent& content = page.cards[static_cast<std::size_t>(card)];
        content.line1.clear();
        content.line2.clear();
        line2IsValue[static_cast<std::size_t>(card)] = false;
        if (guard.step([&] {
                if (noImageError != 0) {
                    app::raise(noImageError);
                }
            })) {
            content.pictureReset = true;
            content.pictures.clear();
        }
        content.pictureTag = QStringLiteral("noImageAvailable.jpg");
        // The card acts on the coin it shows, whatever its tag says.
        content.position = item - 1;

        bool excluded = false;
        guard.step([&] {
            const store::CoinRecord& record = collection.record(item - 1);
            for (qsizetype k = 0; k < record.size(); ++k) {
                const Field field = fields.of(record.key(k));
                if (field == Field::Other) {
                    continue;
                }
                // A note only makes its card show: its text is never read.
                const QString v = field == Field::MiscNotes ? QString() : record.value(k);
                if (rules.excludes(field, v, guard)) {
                    content.visible = false;
                    excluded = true;
                    return;
                }
                switch (field) {
                case Field::Description:
                    content.visible = true;
                    content.tag = QString::number(item);
                    content.line1 = v;
                    break;
                case Field::CurrentValue:
                    content.visible = true;
                    guard.step([&] {
                        if (!app::parseNumber(v)) {
                            app::raise(app::kTypeMismatch);
                        }
                        content.line2 = v;
                        line2IsValue[static_cast<std::size_t>(card)] = true;
                    });
                    break;
                case Field::MiscNotes:
                    content.visible = true;
                    break;
                case Field::FirstPicture:
                    if (!app::isBlankText(v)) {
                        content.visible = true;
                        content.pictures.append(v);
                        content.pictureTag = v;
                    }
                    break;
                default:
                    break;
                }
            }
        });
        if (!excluded) {
            ++card;
        }
    }
    for (int n = 0; n < kHomeCards; ++n) {
        if (line2IsValue[static_cast<std::size_t>(n)]) {
            QString& line2 = page.cards[static_cast<std::size_t>(n)].line2;
            line2 =
                QStringLiteral("Current Value = ") + app::formatCurrency(*app::parseNumber(line2));
        }
    }
    page.previousPage = first >= 2;
    page.nextPage = card == kHomeCards;
    return page;
}

} // namespace ui
