// Small
