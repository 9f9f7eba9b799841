#include "app/SliderField.h"

#include "platform/values.h"

namespace {

int32_t numberIn(const platform::EditField& field)
{
    return platform::ToInt32(platform::Val(field.text()));
}

} // namespace

void ShowSliderValue(platform::EditField& field, const platform::Slider& slider)
{
    if (numberIn(field) != slider.value())
        field.setText(platform::Str(slider.value()));
}

void ShowStoredValue(platform::EditField& field, const platform::Slider& slider)
{
    field.setText(platform::Str(slider.value()));
}

void MoveSliderToField(platform::EditField& field, platform::Slider& slider)
{
    // A slider already at the end that the number lies beyond reports no change: the field is
    // put right here.
    slider.setValue(numberIn(field));
    ShowSliderValue(field, slider);
}
