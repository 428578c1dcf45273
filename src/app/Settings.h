#pragma once

namespace Vantrel::Settings {

// The user's two settings, kept in QSettings under the organization and application "Vantrel".
// A stored value counts as a boolean when it is one, or when it is the text "true" or "false"
// (how the settings file keeps a boolean); anything else reads as if it were absent.

// "walkthroughDone": the user finished the walkthrough once. Absent reads as false.
bool walkthroughDone();
void setWalkthroughDone(bool done);

// "organizeInPlace": approving organizes the folder in place rather than making a sorted copy.
// Absent reads as true.
bool organizeInPlace();
void setOrganizeInPlace(bool inPlace);

} // namespace Vantrel::Settings
