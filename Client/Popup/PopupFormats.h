#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

// How the job pop-up shows numbers, money and dates: in the user's locale,
// with the number of decimal places the server's settings give for money.
class PopupFormats {
public:
    // The most decimal places shown, whatever the server asks for.
    static constexpr int MaxDecimalPlaces = 9;

    explicit PopupFormats(uint64_t decimalPlaces = 0, QLocale locale = QLocale());

    // A number with the settings' decimal places.
    QString number(double value) const;
    // Money: the number put in the place the text of "Currency_Symbol" gives it.
    QString currency(double value) const;
    // A count that is usually whole (pages, page balances): no decimals
    // unless it has some.
    QString count(double value) const;
    // A time stamp given in UTC, in local time: medium date, short time.
    QString dateTime(const QDateTime& utc) const;

    // --- The editable cost boxes ---
    // Their decimal places: 2, 3 or 4 as the settings say, else 3.
    int costBoxDecimals() const;
    // The text a cost box shows for a number.
    QString costBoxText(double value) const;
    // The number a cost box's text stands for: none for a text that is not
    // a number of zero or more. The user's locale reads it first; a number
    // that it cannot read but that has a decimal point ("0.25" under a
    // decimal comma, as other programs write them) counts as well.
    std::optional<double> costBoxValue(const QString& text) const;
    // The number that the error of a cost box gives as an example, as the
    // user would type it.
    QString costBoxExample() const;

private:
    int mintDecimalPlaces;
    QLocale mLocale;
    QString mstrCurrencyFormat;
};
