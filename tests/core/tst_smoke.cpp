#include "tests/support/testsupport.h"
class TestSmoke : public QObject { Q_OBJECT private slots: void ok() { QVERIFY(true); } };
MC_TEST_MAIN(TestSmoke)
#include "tst_smoke.moc"
