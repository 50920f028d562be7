#include "medialist.h"

#include <cstdlib>

// A gpMediaList body, read whole and as its newest few: each index must point at its own
// entry, and the newest few must be the head of the whole list, entry for entry (the first
// screen's tiles stay where they are when the whole list follows).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Skipped folders are logged; millions of log lines would be the run's whole cost.
    [[maybe_unused]] static const auto quiet =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const auto doc = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    const MediaList whole = MediaList::parse(doc);
    const MediaList head = MediaList::newest(doc, 4);
    if (head.status() != whole.status() || head.count() > 4 || head.total() < head.count())
        abort();
    for (int i = 0; i < whole.count(); ++i) {
        if (whole.indexOf(whole.newestFirst().at(i).path) != i)
            abort();
    }
    for (int i = 0; i < head.count(); ++i) {
        const MediaList::Entry& entry = head.newestFirst().at(i);
        if (head.indexOf(entry.path) != i || i >= whole.count() || whole.newestFirst().at(i).path != entry.path
            || whole.newestFirst().at(i).mod != entry.mod)
            abort();
    }
    return 0;
}
