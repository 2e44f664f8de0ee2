// Writes settings to the defaults file given as its argument as fast as it can, until killed.
#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    JsonFileDefaultsStore store(QString::fromLocal8Bit(argc > 1 ? argv[1] : "defaults.json"));
    AppSettings settings(store);
    QSet<quint32> displays;  // a long value makes every write big enough for a kill to land inside it
    for (quint32 id = 0; id < 2000; ++id)
        displays.insert(id);
    for (int i = 0;; ++i) {
        settings.setTextScale(1.0 + (i % 100) / 100.0);
        settings.setDisabledDisplays(displays);
    }
}
