// panel
