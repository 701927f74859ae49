; The peer a vendor might pick instead of the launcher: an NSIS installer
; that opens by showing the same 481 x 258 artwork as a splash screen.
; Built by script/bench:  makensis -DOUT=<exe> -DARTWORK=<bmp> splash.nsi
Unicode true
Name "Keyvandor splash"
OutFile "${OUT}"
SilentInstall silent
RequestExecutionLevel user

Function .onInit
  InitPluginsDir
  File "/oname=$PLUGINSDIR\splash.bmp" "${ARTWORK}"
  advsplash::show 3000 0 0 -1 "$PLUGINSDIR\splash"
FunctionEnd

Section
SectionEnd
