// epilogue
