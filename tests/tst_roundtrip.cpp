#include <QtTest>
class tst_roundtrip : public QObject { Q_OBJECT };
QTEST_MAIN(tst_roundtrip)
#include "tst_roundtrip.moc"
