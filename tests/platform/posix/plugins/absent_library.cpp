// A library the test copies nowhere, standing for LibreOffice's UNO libraries on a machine
// without LibreOffice.
__attribute__((visibility("default"))) int tallowby_absent_library_function() {
  return 1;
}
