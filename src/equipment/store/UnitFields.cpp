#include "equipment/store/UnitFields.h"

#include "data/DateText.h"

void UnitValues::setDatePurchased(const QDate& date) {
    (*this)[UnitField::DatePurchased] = date.isValid() ? DateText::toStored(date) : QString();
}

std::optional<QDate> UnitRecord::datePurchased() const {
    return storedDate((*this)[UnitField::DatePurchased]);
}

std::optional<QDate> storedDate(const std::optional<QString>& stored) {
    if (!stored)
        return std::nullopt;
    const QDate date = QDate::fromString(*stored, Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
