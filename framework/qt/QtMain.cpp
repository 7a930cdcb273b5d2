// The program's entry on Qt; the application object does the rest.
#include "framework/qt/QtBackend.h"

int main(int argc, char** argv) {
    return tavirap::TavirapMain(argc, argv);
}
