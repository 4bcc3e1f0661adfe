// The demo's window code, compiled into the test executable so the tests drive the real
// window (the program's own main() stays out).
#include "demo/DemoApplication.cpp"
#include "demo/DemoPictures.cpp"
#include "demo/FindBar.cpp"
#include "demo/InfoMemo.cpp"
#include "demo/TabRows.cpp"
#include "demo/untAbout.cpp"
#include "demo/untMain.cpp"
#include "demo/untMainContent.cpp"
#include "demo/untMainDemos.cpp"
#include "demo/untMainFiles.cpp"
#include "demo/untPrint.cpp"
