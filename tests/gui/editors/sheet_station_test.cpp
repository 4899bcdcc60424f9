#include <QtTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "sheet_station_test.moc"
