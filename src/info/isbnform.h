#pragma once

#include <QString>

// The ISBN-10 form of a 13-digit EAN ("9787500612349" -> "7-5006-1234-6") and the ISSN form of a
// "977" EAN ("9771234567003" -> "1234-567"). Any other text, and an EAN whose digits are not all
// digits, is returned unchanged.
QString LIB_IsbnForm(const QString& ean);
