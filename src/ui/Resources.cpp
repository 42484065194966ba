#include "ui/Resources.h"

#include <QtGlobal>

static void registerCorvaneResources()
{
    Q_INIT_RESOURCE(corvane);
}

void initProgramResources()
{
    static const bool done = [] {
        registerCorvaneResources();
        return true;
    }();
    (void)done;
}
