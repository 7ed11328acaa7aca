// prologue
