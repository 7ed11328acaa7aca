// server
