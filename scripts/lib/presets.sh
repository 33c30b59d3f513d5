# Sourced by the scripts that set up, build or test: the presets they work on, as the
# whitespace-separated list VOKR_PRESETS (default: every preset).
VOKR_PRESETS=${VOKR_PRESETS:-i386 native-asan win32}

# Succeeds when the preset $1 is among VOKR_PRESETS.
preset_selected() {
  [[ " $VOKR_PRESETS " == *" $1 "* ]]
}
