// panels
