#pragma once

// A number field beside a slider, as the player editor and the sliders window have them: the
// field shows the slider's value, and a whole number typed into the field moves the slider.

#include "platform/controls.h"

/// Shows the slider's value in the field. A field that already reads as that value is left
/// alone, so that typing "-40" is not undone when the "-" alone moves the slider to 0.
void ShowSliderValue(platform::EditField& field, const platform::Slider& slider);

/// Once the user has finished with the field: it shows the slider's value as the whole number
/// that is stored, whatever was typed ("7.5", "", "1e2").
void ShowStoredValue(platform::EditField& field, const platform::Slider& slider);

/// Moves the slider to the number typed into the field. The slider keeps its value within its
/// range; a number beyond it leaves the slider at its end, and the field then shows that end.
void MoveSliderToField(platform::EditField& field, platform::Slider& slider);
