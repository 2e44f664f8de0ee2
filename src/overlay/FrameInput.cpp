#include "overlay/FrameInput.h"

#include "settings/AppSettings.h"

FrameSettings FrameSettings::from(const AppSettings& settings)
{
    FrameSettings values;
    values.style = settings.style();
    values.textColor = settings.textColor();
    values.highlightColor = settings.highlightColor();
    values.secondaryColor = settings.secondaryColor();
    values.contrastColor = settings.highlightContrastColor();
    values.font = settings.lyricFont();
    values.textScale = drawingTextScale(settings.textScale());
    return values;
}
