#include "core/TextSize.h"

namespace corvane {

int fontsForCommand(int commandId)
{
    if (commandId < cmd::FontsHuge || commandId > cmd::FontsTiny)
        return 0;
    return commandId - cmd::FontsHuge + 1;
}

int commandForFonts(int fonts)
{
    if (fonts < 1 || fonts > 5)
        return 0;
    return cmd::FontsHuge + fonts - 1;
}

int fontsAfterStep(int fonts, bool larger)
{
    if (fonts < 1 || fonts > 5)
        fonts = kFontsNormal;
    const int next = larger ? fonts - 1 : fonts + 1;
    return next < 1 ? 1 : next > 5 ? 5 : next;
}

int zoomArgumentForFonts(int fonts)
{
    if (fonts < 1 || fonts > 5)
        fonts = kFontsNormal;
    return 5 - fonts;
}

double zoomFactorForArgument(int zoomArgument)
{
    static constexpr double kFactors[] = {0.75, 0.9, 1.0, 1.2, 1.5};
    if (zoomArgument < 0 || zoomArgument > 4)
        return 1.0;
    return kFactors[zoomArgument];
}

} // namespace corvane
