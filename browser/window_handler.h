#pragma once
// The one query handler: "moveWindow:dx,dy,w,h" and the minimise toggle are
// carried out at once on the host window; every other query is handed to
// the active web view as a MessageEvent for the main window's dispatcher.

#include "browser/message_router.h"

#include <QVector>

// Reads the numbers of a moveWindow request: from position 11 on, integers
// in the manner of stream input (leading blanks, optional sign), each
// optionally followed by one comma, up to the first failed read.
QVector<int> parseMoveWindowNumbers(const QByteArray& request);

namespace window_test {

class Handler : public RouterHandler
{
public:
    bool OnQuery(BrowserPage* browser, const QString& request, bool persistent,
                 const CallbackPtr& callback) override;
};

}  // namespace window_test
