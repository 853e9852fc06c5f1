#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>

// `corvane --check-install`: after start-up (fonts, theme, translator, main
// window), reports whether every file the program reads at run time was found
// where the executable expects it. Packagers and the install test use it to
// prove that an installed tree works without the build folder.
class InstallCheck
{
    Q_DECLARE_TR_FUNCTIONS(InstallCheck)
public:
    struct Item
    {
        QString what;
        bool ok = false;
        QString detail;
    };

    // Needs a QApplication whose start-up has run.
    static QList<Item> run();
    // Prints one line per item to stdout; 0 when every item is ok, else 1.
    static int print(const QList<Item>& items);
};
