// A foundation file that uses Qt.
#include <QString>
