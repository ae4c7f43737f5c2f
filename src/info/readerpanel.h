#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The reader panel at the top of the reader window, the reader's portrait and the card the desk
// hands the window. Like every database routine these return 0, or -1 with the error record
// filled.
namespace ReaderPanel {

// The panel's labels: the display captions where the captions file names the field.
QStringList labels();
QString statement(const QString& certId);
// The panel's twelve values from the reader's first card (highest card state, then the most
// recently issued); empty values for an unknown reader.
int load(const QString& certId, QStringList& values);

// The portrait's bytes (empty when the reader has none), handed to the picture as they are.
int portrait(const QString& certId, QByteArray& bytes);

// The reader's valid card (cert_flag "1"), empty when there is none.
int validCard(const QString& certId, QString& barcode);

} // namespace ReaderPanel
