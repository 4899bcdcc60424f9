#include <QtTest>
class T : public QObject { Q_OBJECT };
QTEST_MAIN(T)
#include "editor_registry_test.moc"
