// Fixture: a core file that must be refused because it includes Qt.
#include <string>
#include <QString>
