f <= a or b;
